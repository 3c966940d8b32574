#pragma once

#include <windows.h>

#include <vector>

#include "engine/catalogue/catalogue.h"
#include "ui/words/texts.h"

// What the services window's own parts share: the frame (services_window.cpp), the profiles' views
// and their choice (profile_views.cpp) and the runs' view (runs_view.cpp).
namespace quillora::ui::services_parts {

// A profile each, as the main window's buttons name them, then the runs so far, then the user's own
// profile.
inline const std::vector<Text> kViews = {Text::QuestionsButton, Text::AutomaticButton, Text::RestoreButton,
                                         Text::ViewRuns, Text::ViewOwn};
inline constexpr Profile kProfiles[] = {Profile::Prompted, Profile::Automatic, Profile::Restore};
inline constexpr int kRunsView = 3;
inline constexpr int kOwnView = 4;

// Set when the runs' view sees the machine change; it shows the change once the timer is due, a
// moment after the last change of a burst.
inline constexpr UINT_PTR kMachineChangedTimer = 1;
inline constexpr UINT kMachineChangedDelayMs = 300;

// Posted when a Space key press has been handled whole, list view's own toggle included.
inline constexpr UINT kSpaceHandled = WM_APP + 1;
// Posted to say that the choice cannot be read or saved, once the window is up and the key press
// or click that met the problem is handled whole: a box opened inside a key press would let its
// messages through, and the list would take the key again.
inline constexpr UINT kSayChoiceProblem = WM_APP + 2;
// Posted once the runs' view shows its chosen run: the line of what differs from what the program
// last set follows.
inline constexpr UINT kShowLastSet = WM_APP + 3;

}  // namespace quillora::ui::services_parts
