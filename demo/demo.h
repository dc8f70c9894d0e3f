// What the demo's parts share.
#pragma once

#include <windows.h>

#include <string>

// The frame window as it is on the screen (menus and popups over it included), as a PNG.
bool SaveScreenshot(HWND frame, const std::string &path);
// Dispatches messages for a while.
void Pump(DWORD milliseconds);
// Forwards the owner-drawn font menu items the frame window is asked about; true when handled.
bool FrameMenuMessage(UINT message, LPARAM lParam);
// A menu bar from the host's "MAC_MENU" 128 and 129 and a font menu showing samples; the font
// menu dropped down, then a popup menu over the document, each saved as a screenshot. Prints
// what the Menu Manager reports; false when a screenshot could not be written.
bool ShowMenus(HWND frame, HWND document);
// The pictures document: PreparePictures imports a JPEG and a GIF from the build tree's
// convert-inputs, records shapes on the port as a metafile and converts it to PICT;
// DrawPicturesDocument draws them all (at WM_PAINT); DisposePictures frees them.
struct GrafPort;
void PreparePictures(GrafPort *documentPort);
void DrawPicturesDocument(GrafPort *port);
void DisposePictures(GrafPort *documentPort);
// The sound, clipboard and movie-bridge document: PrepareSoundAndClipboard joins the clipboard
// viewer chain with the frame, plays and converts a tone, copies and pastes Mac text and a
// picture, and asks for the movie library; DrawSoundDocument shows the outcome (at WM_PAINT);
// FrameClipboardMessage forwards the frame's clipboard messages; DisposeSoundAndClipboard
// renders what is still announced and leaves the chain.
void PrepareSoundAndClipboard(HWND frame, HWND document, HMODULE resources);
void DrawSoundDocument(GrafPort *port);
bool FrameClipboardMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void DisposeSoundAndClipboard();
// The styled text document: PrepareTextDocument starts the text engine measuring on the
// document's port and lays out a styled record; DrawTextDocument draws its lines run by run
// with the engine's measurers and lists what the layout, word and case calls report;
// DisposeTextDocument frees the record and shuts the engine down.
void PrepareTextDocument(GrafPort *documentPort, HMODULE resources);
void DrawTextDocument(GrafPort *port);
void DisposeTextDocument();
// Application services: DrawThemedControls draws a row of themed controls through the
// WinUiDraw calls (WinUiInit first); ShowDocumentsAndFont lists the documents of the demo's
// own command line and downloads a Type 1 font to font.ps in outDir, returning what happened
// as Mac Roman lines; CaptureStdFileDialog opens an open dialog, saves it to pngPath from a
// timer inside the dialog's loop and cancels it.
void DrawThemedControls(GrafPort *port, int left, int top);
std::string ShowDocumentsAndFont(const std::string &outDir);
bool CaptureStdFileDialog(HWND frame, HMODULE resources, const std::string &pngPath);
// The editable text field: a window of its own where the text engine takes keys and clicks;
// types a few lines through the input queue, styles a word and saves a screenshot (the lead's
// host calls it with "demo_text.png" in the demo directory). False when it could not.
bool RunTextEditDemo(HMODULE resources, const std::string &screenshotPath);
