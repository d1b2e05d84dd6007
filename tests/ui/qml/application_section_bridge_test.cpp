#include "ui/qml/application_section_bridge.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>
#include <QSize>
#include <memory>
#include <string>

#include "ui/qml/application_icon_provider.h"

namespace pylonix {
namespace {

ApplicationPowerSnapshot sevenApplications() {
    ApplicationPowerSnapshot snapshot;
    snapshot.state = ApplicationPowerSnapshot::State::available();
    for (int index = 0; index < 7; ++index) {
        snapshot.entries.push_back({"/apps/" + std::to_string(index) + " é%.desktop",
                                    "App " + std::to_string(index), 1.0, 1, 1});
    }
    return snapshot;
}

TEST(ApplicationSectionBridgeTest, CollapseAsksForTheScrollOnlyAboveTheViewport) {
    ApplicationSectionBridge bridge;
    bridge.setSnapshot(sevenApplications(), false);
    QSignalSpy scroll(&bridge, &ApplicationSectionBridge::scrollToSectionRequested);

    bridge.setApplicationSectionTop(-120);
    bridge.toggleAllApplications(true);  // expand: never scrolls
    EXPECT_TRUE(bridge.showsAllApplications());
    EXPECT_EQ(bridge.section().value("rows").toList().size(), 7);
    EXPECT_EQ(scroll.count(), 0);

    bridge.toggleAllApplications(true);
    EXPECT_FALSE(bridge.showsAllApplications());
    EXPECT_EQ(bridge.section().value("rows").toList().size(), 5);
    ASSERT_EQ(scroll.count(), 1);
    EXPECT_TRUE(scroll.at(0).at(0).toBool()) << "animated behind an open motion gate";

    bridge.toggleAllApplications(false);
    bridge.toggleAllApplications(false);
    ASSERT_EQ(scroll.count(), 2);
    EXPECT_FALSE(scroll.at(1).at(0).toBool()) << "immediate with the gate closed";

    bridge.setApplicationSectionTop(40);
    bridge.toggleAllApplications(true);
    bridge.toggleAllApplications(true);
    EXPECT_EQ(scroll.count(), 2);
}

TEST(ApplicationSectionBridgeTest, TheFlagOutlivesShortLists) {
    ApplicationSectionBridge bridge;
    bridge.setSnapshot(sevenApplications(), false);
    bridge.toggleAllApplications(false);
    ApplicationPowerSnapshot three = sevenApplications();
    three.entries.resize(3);
    bridge.setSnapshot(three, false);
    EXPECT_FALSE(bridge.section().value("toggle").toMap().value("shown").toBool());
    bridge.setSnapshot(sevenApplications(), false);
    EXPECT_TRUE(bridge.showsAllApplications());
    EXPECT_EQ(bridge.section().value("toggle").toMap().value("label").toString(),
              QString::fromUtf8("收起列表"));
}

TEST(ApplicationSectionBridgeTest, IconsReachTheRowsThroughTheProvider) {
    auto store = std::make_shared<ApplicationIconStore>();
    const ApplicationPowerSnapshot snapshot = sevenApplications();
    QImage icon(64, 64, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    store->setIcons({{QString::fromStdString(snapshot.entries[1].id), icon}});

    ApplicationSectionBridge bridge;
    bridge.setIconLookup([store](const std::string& id) { return store->contains(id); });
    bridge.setSnapshot(snapshot, true);
    const QVariantList rows = bridge.section().value("rows").toList();
    EXPECT_FALSE(rows[0].toMap().value("hasIcon").toBool());
    EXPECT_EQ(rows[0].toMap().value("fallbacksymbol").toString(), "app.fill");
    ASSERT_TRUE(rows[1].toMap().value("hasIcon").toBool());

    // The provider gets the id back from the source URL, odd characters included.
    const QString source = rows[1].toMap().value("iconSource").toString();
    const QString prefix = QStringLiteral("image://application-icons/");
    ASSERT_TRUE(source.startsWith(prefix));
    ApplicationIconProvider provider(store);
    QSize size;
    const QImage drawn = provider.requestImage(source.mid(prefix.size()), &size, QSize(26, 26));
    EXPECT_EQ(size, QSize(26, 26));
    EXPECT_EQ(drawn.pixelColor(13, 13), QColor(Qt::red));
    EXPECT_TRUE(provider.requestImage(QStringLiteral("%2Fnone"), &size, QSize(26, 26)).isNull());
}

}  // namespace
}  // namespace pylonix
