#pragma once
// Updating the panel's flash through its loaders, starting the new application and activating it
// after the restart.
#include <string>

#include "link/channel/channel.h"

namespace quorlink::panel {

struct PanelUpdateRequest {
    std::string firmwarePath;  // application or loader-I Intel HEX file
    std::string version;       // firmware version text; its first two characters count
    bool downloadApplication = false;
    bool loaderIUpdate = false;  // the file is a new loader I
};

// 0, -1 time-out or failed sector, -2 refused or flash-size mismatch, -3 a file missing or not
// opened, -4 bad Intel HEX file, -5 programmed but not started, -10 bad application file in the
// range scan, -13 loader-I update on the small layout. Every failure reports its text.
int updatePanel(Channel& channel, const PanelUpdateRequest& request);

// Starts the application from loader II and lets the panel restart: 0 or -1.
int startPanelApplication(Channel& channel);

// Wakes the rack after the restart and activates the new application: 0 or -1.
int establishPanel(Channel& channel);

}  // namespace quorlink::panel
