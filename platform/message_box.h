#pragma once

enum class MessageIcon { Information, Warning };

// A modal message with no owner window and a single OK button; returns once
// the user has dismissed it. Where no dialog can be shown (no display), the
// caption and text go to standard error instead and nothing blocks.
void ShowMessageBox(const char* text, const char* caption, MessageIcon icon);

// The renderer's one style: caption "Debug", information icon.
inline void ShowDebugMessage(const char* text) { ShowMessageBox(text, "Debug", MessageIcon::Information); }

// Tests replace the dialog with a recorder. Returns the previous sink; a null
// sink restores the real dialog.
using MessageSink = void (*)(const char* text, const char* caption, MessageIcon icon);
MessageSink SetMessageSink(MessageSink sink);

// A sink for runs where nobody could answer a dialog: "caption: text" on
// standard error.
void WriteMessageToStandardError(const char* text, const char* caption, MessageIcon icon);

// The platform's own modal dialog, shown when no sink stands in for it.
void ShowNativeMessageBox(const char* text, const char* caption, MessageIcon icon);
