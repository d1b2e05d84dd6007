#include "ui/panel_view.h"

#include "ui/aligned_balance.h"

namespace pylonix {

PanelView makePanelView(const PanelInput& input) {
    const PowerSnapshot& snapshot = input.snapshot;
    PanelView view;
    view.menuBarLabel = makePowerMenuBarLabel(snapshot, input.hasAvailableVersion);
    view.height = panelHeight(input.screenVisibleHeight);
    view.colorScheme = input.colorScheme;
    view.footerUpdatedAt = footerUpdatedAt(snapshot.timestamp, input.timeStyle);
    view.updateShortcut = makeUpdateShortcut(input.hasAvailableVersion, input.canCheckForUpdates,
                                             input.hasSoftwareUpdateError);
    view.version = versionText(input.version);
    view.alignedBalance = alignedBalance(snapshot, input.applicationPower.balance);
    view.isIncludedInBalance = isIncludedInBalance(view.alignedBalance);
    view.statusHeader = makeStatusHeader(snapshot);
    view.powerCard = makePowerCard(snapshot, view.alignedBalance);
    view.errorNotice = makeErrorNotice(snapshot);
    view.tiles = makePowerTiles(snapshot);
    view.unavailableNotice = makeUnavailableNotice(snapshot, view.alignedBalance);
    view.powerDetails = makePowerDetails(snapshot, input.showsPowerDetails);
    view.breakdown = makePowerBreakdown(view.alignedBalance);
    return view;
}

}  // namespace pylonix
