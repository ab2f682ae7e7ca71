// How assistive tools see the window's own kinds of controls: a progress
// line as a named progress indicator with its value in percent, and a list
// of the form by the name of its caption rather than by its current item.
#pragma once

namespace sweepwav {

// Installs the interfaces once; later calls do nothing. Needs the
// application object.
void InstallAccessibleInterfaces();

}  // namespace sweepwav
