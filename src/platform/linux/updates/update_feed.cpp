#include "platform/linux/updates/update_feed.h"

#include <QString>
#include <QUrl>
#include <QXmlStreamReader>

#include "platform/linux/updates/server_text.h"
#include "services/update_version.h"

namespace pylonix::linux_platform {
namespace {

constexpr std::size_t kMaximumItems = 10000;

std::string toStd(const QString& text) {
    return text.trimmed().toStdString();
}

std::optional<std::string> nonEmpty(std::string text) {
    if (text.empty()) return std::nullopt;
    return text;
}

// Reads one <item>; the reader stands on its start element.
UpdateFeedItem readItem(QXmlStreamReader& reader) {
    std::optional<std::string> version;
    std::optional<std::string> displayVersion;
    std::optional<std::string> link;
    std::optional<std::string> enclosureURL;
    std::optional<std::string> enclosureVersion;
    std::optional<std::string> enclosureDisplayVersion;
    while (reader.readNextStartElement()) {
        const auto name = reader.name();
        if (name == u"enclosure") {
            const QXmlStreamAttributes attributes = reader.attributes();
            for (const QXmlStreamAttribute& attribute : attributes) {
                const auto attributeName = attribute.name();
                if (attributeName == u"url") {
                    enclosureURL = nonEmpty(toStd(attribute.value().toString()));
                } else if (attributeName == u"version") {
                    enclosureVersion = nonEmpty(toStd(attribute.value().toString()));
                } else if (attributeName == u"shortVersionString") {
                    enclosureDisplayVersion = nonEmpty(toStd(attribute.value().toString()));
                }
            }
            reader.skipCurrentElement();
        } else if (name == u"version") {
            version = nonEmpty(toStd(reader.readElementText()));
        } else if (name == u"shortVersionString") {
            displayVersion = nonEmpty(toStd(reader.readElementText()));
        } else if (name == u"link") {
            link = nonEmpty(toStd(reader.readElementText()));
        } else {
            reader.skipCurrentElement();
        }
    }
    UpdateFeedItem item;
    item.version = version.value_or(enclosureVersion.value_or(""));
    item.displayVersion = displayVersion ? displayVersion : enclosureDisplayVersion;
    item.downloadURL = link ? link : enclosureURL;
    return item;
}

}  // namespace

UpdateCheckResult failedUpdateCheck(std::string message) {
    UpdateCheckResult result;
    result.errorMessage = std::move(message);
    return result;
}

UpdateFeedParseResult parseUpdateFeed(std::string_view xml) {
    UpdateFeedParseResult result;
    QXmlStreamReader reader(
        QByteArray::fromRawData(xml.data(), static_cast<qsizetype>(xml.size())));
    if (!reader.readNextStartElement() || reader.name() != u"rss") {
        if (!reader.hasError()) {
            result.errorMessage = "更新源不是 RSS 文档。";
            return result;
        }
    } else {
        while (reader.readNextStartElement()) {
            if (reader.name() != u"channel") {
                reader.skipCurrentElement();
                continue;
            }
            while (reader.readNextStartElement()) {
                if (reader.name() != u"item") {
                    reader.skipCurrentElement();
                    continue;
                }
                UpdateFeedItem item = readItem(reader);
                if (reader.hasError()) break;
                if (item.version.empty()) {
                    result.items.clear();
                    result.errorMessage = "更新源中有条目缺少版本号。";
                    return result;
                }
                if (result.items.size() == kMaximumItems) {
                    result.items.clear();
                    result.errorMessage = "更新源中的条目过多。";
                    return result;
                }
                result.items.push_back(std::move(item));
            }
        }
        // Whatever follows the root element must still be well-formed.
        while (!reader.atEnd()) reader.readNext();
    }
    if (reader.hasError()) {
        result.items.clear();
        result.errorMessage = "更新源格式错误（第 " + std::to_string(reader.lineNumber()) +
                              " 行）：" + reader.errorString().toStdString();
    }
    return result;
}

bool isHttpsURL(std::string_view url) {
    const QUrl parsed(QString::fromUtf8(url.data(), static_cast<qsizetype>(url.size())),
                      QUrl::StrictMode);
    return parsed.isValid() && parsed.scheme() == u"https" && !parsed.host().isEmpty();
}

UpdateCheckResult evaluateUpdateFeed(const UpdateFeedParseResult& feed,
                                     std::string_view currentVersion) {
    if (feed.errorMessage) return failedUpdateCheck(*feed.errorMessage);
    const std::optional<UpdateVersion> current = UpdateVersion::parse(currentVersion);
    if (!current) {
        return failedUpdateCheck("当前版本号不是数字：" + shortenedServerText(currentVersion));
    }
    const UpdateFeedItem* newest = nullptr;
    std::optional<UpdateVersion> newestVersion;
    for (const UpdateFeedItem& item : feed.items) {
        // Checked before anything is compared or shown: a version is a short text.
        if (characterCount(item.version) > kMaximumVersionCharacters ||
            characterCount(item.displayVersion.value_or("")) > kMaximumVersionCharacters) {
            return failedUpdateCheck("更新源中的版本号过长（超过 " +
                                     std::to_string(kMaximumVersionCharacters) + " 个字符）。");
        }
        const std::optional<UpdateVersion> version = UpdateVersion::parse(item.version);
        if (!version) {
            return failedUpdateCheck("更新源中的版本号不是数字：" +
                                     shortenedServerText(item.version));
        }
        if (!newestVersion || *version > *newestVersion) {
            newest = &item;
            newestVersion = version;
        }
    }
    UpdateCheckResult result;
    if (newest == nullptr) return result;
    const std::string display = newest->displayVersion.value_or(newest->version);
    result.latestVersion = display;
    if (*newestVersion <= *current) return result;
    if (!newest->downloadURL || !isHttpsURL(*newest->downloadURL)) {
        return failedUpdateCheck("新版本 " + display + " 的下载地址不是 https 地址：" +
                                 shortenedServerText(newest->downloadURL.value_or("（无）")));
    }
    result.availableVersion = display;
    result.downloadURL = newest->downloadURL;
    return result;
}

}  // namespace pylonix::linux_platform
