#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pylonix::linux_platform {

// Where icon themes are looked for, and which one the desktop uses.
struct IconThemeSettings {
    std::vector<std::filesystem::path> searchPaths;    // each holds <theme>/index.theme
    std::string themeName;                             // the desktop's theme, first
    std::string fallbackThemeName = "hicolor";         // after the theme and its parents
    std::vector<std::filesystem::path> fallbackPaths;  // loose icons (/usr/share/pixmaps)
};

// Finds the file of a named icon the way freedesktop icon themes are searched: in the
// theme, then in the themes it inherits from, then in the fallback theme, the directory whose
// size fits best (an exact fit ends the search), PNG before SVG before XPM; then loose files in
// the fallback paths. Reads each theme's index.theme once, through the safe reader. Not
// thread-safe; used on the sampler's worker.
class IconThemeLookup {
  public:
    explicit IconThemeLookup(IconThemeSettings settings);

    std::optional<std::filesystem::path> find(const std::string& name, int size);

  private:
    struct Directory {
        std::string path;
        int size = 0;
        int minSize = 0;
        int maxSize = 0;
        int threshold = 2;
        enum class Type { fixed, scalable, threshold } type = Type::threshold;

        int distance(int wanted) const;
    };
    struct Theme {
        std::vector<std::filesystem::path> roots;  // <search path>/<theme> that exist
        std::vector<Directory> directories;
        std::vector<std::string> parents;
    };

    const Theme* theme(const std::string& name);
    // The themes searched, in order; worked out on the first look-up (the settings do not
    // change).
    const std::vector<std::string>& themeChain();

    IconThemeSettings settings_;
    std::map<std::string, std::optional<Theme>> themes_;
    std::optional<std::vector<std::string>> chain_;
};

}  // namespace pylonix::linux_platform
