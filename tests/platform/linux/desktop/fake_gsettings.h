#pragma once

// A gsettings written in the test: it answers `get` from, and `monitor`s, one file per key in
// its own directory.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace pylonix::linux_platform::testing {

class FakeGSettings {
  public:
    FakeGSettings() {
        write("gsettings",
              "#!/bin/sh\n"
              "file=\"$(dirname \"$0\")/$3\"\n"
              "[ -e \"$file\" ] || { echo \"No such key\" >&2; exit 1; }\n"
              "case \"$1\" in\n"
              "get) cat \"$file\" ;;\n"
              "monitor) last=$(cat \"$file\")\n"
              "  while sleep 0.02; do now=$(cat \"$file\")\n"
              "    [ \"$now\" = \"$last\" ] || echo \"$3: $now\"; last=$now; done ;;\n"
              "esac\n");
        QFile::setPermissions(path("gsettings"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString program() const { return path("gsettings"); }
    QString path(const char* name) const { return directory_.filePath(QString::fromUtf8(name)); }
    // Replaced, not rewritten in place, the way settings daemons save.
    void write(const char* name, const char* content) const {
        QFile file(path(name) + QStringLiteral(".new"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QFile::remove(path(name));
        ASSERT_TRUE(QFile::rename(path(name) + QStringLiteral(".new"), path(name)));
    }

  private:
    QTemporaryDir directory_;
};

}  // namespace pylonix::linux_platform::testing
