#pragma once

#include "probe_json.h"
#include "ui/panel_view.h"

namespace pylonix::probe {

// A panel state as `view` reads it; every missing member takes its initial value. InputError
// names the member that cannot be used.
PanelInput panelInputFromJson(const Json& json);

// What the view models make of it: the texts, symbols, colours and visibility of every view.
Json toJson(const PanelView& view);

}  // namespace pylonix::probe
