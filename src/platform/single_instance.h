// One running copy per user: how copies of the program find each other
// (desktop/single_instance.cpp). A browser tab is a copy of its own
// (web/web_services.cpp).
#pragma once

namespace host::detail {

// This copy's game window exists: from now on other copies find it.
void RegisterRunningCopy();
// True when another copy of the same user runs.
bool FindRunningCopy();
// Asks the copy found by FindRunningCopy to show its window.
bool AskRunningCopyToShow();
// True once this copy has asked a running one to show its window.
bool HandedOver();
// Takes the show requests other copies have sent (PeekPlatformMessage).
void CollectShowRequests();
// Closes every descriptor; the lock goes with them.
void ResetSingleInstance();

}  // namespace host::detail
