#pragma once

// The configuration start's window. The constructor shows it and returns when
// the user has closed it.
class AboutWindow {
 public:
  AboutWindow();
};
