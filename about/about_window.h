#pragma once

// The configuration start's window: product title, logo, a three-line notice
// and a button that opens the maker's website. The constructor shows it and
// returns when the user has closed it; the destructor releases nothing.
class AboutWindow {
 public:
  AboutWindow();

  // Fixed for the life of the program; class members so that tests can lay
  // them out without opening the window.
  static constexpr const char* title = "About";
  static constexpr const char* windowClassName = "VantaluxeWindowClass";
  // Kept beside the others; the button is the toolkit's own kind, not a class of ours.
  static constexpr const char* buttonClassName = "VantaluxeButtonClass";
  static constexpr const char* buttonText = "Visit website";
  static constexpr const char* noticeText =
      "Copyright (C) 2011-2025 Vantaluxe. All rights reserved.\r\n"
      "More free screensavers at https://www.vantaluxe.example\r\n"
      "Questions or ideas? Write to support@vantaluxe.example";
  static constexpr const char* productTitle = "Gloamery 3D Screensaver";
};
