// The platform services of the desktop window: as SystemServices, and files
// are opened in the desktop's text viewer, folders in its file manager.
#pragma once

#include "platform/system_services.h"

namespace sweepwav {

class DesktopServices : public SystemServices {
public:
    Status open_in_viewer(const std::string& path) override;
    Status open_folder(const std::string& path) override;
};

}  // namespace sweepwav
