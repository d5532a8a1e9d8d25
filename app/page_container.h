// The page container 高级选择夹1: a child window that holds pages of controls and draws no tabs. The page buttons
// of the left column are the only way to change its page.
#pragma once

#include <windows.h>

#include <vector>

namespace tavix::app {

struct Page {
    const wchar_t* caption;       // never shown, since the container draws no tabs
    bool hidden;                  // a hidden page can never become the current one
    std::vector<int> controlIds;  // children of the container that belong to this page
};

// Registers ids::kPageContainerClass. False when the system refused.
bool RegisterPageContainerClass(HINSTANCE instance);

// Hands the container its pages and makes `current` the current page: its controls are shown and every other
// page's controls hidden. The controls must already exist.
void SetPages(HWND container, std::vector<Page> pages, int current);

// Makes `page` current. Asking for the current page changes nothing; a hidden or unknown page is refused (false).
bool SelectPage(HWND container, int page);

int CurrentPage(HWND container);

}  // namespace tavix::app
