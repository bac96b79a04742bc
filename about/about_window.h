#pragma once

// The configuration start's window: product title, logo, a three-line notice
// and a button that opens the maker's website. The constructor shows it and
// returns when the user has closed it; the destructor releases nothing.
class AboutWindow {
 public:
  AboutWindow();

  const char* const title = "About";
  const char* const windowClassName = "VantaluxeWindowClass";
  // Kept beside the others; the button is the toolkit's own kind, not a class of ours.
  const char* const buttonClassName = "VantaluxeButtonClass";
  const char* const buttonText = "Visit website";
  const char* const noticeText =
      "Copyright (C) 2011-2025 Vantaluxe. All rights reserved.\r\n"
      "More free screensavers at https://www.vantaluxe.example\r\n"
      "Questions or ideas? Write to support@vantaluxe.example";
  const char* const productTitle = "Gloamery 3D Screensaver";
};
