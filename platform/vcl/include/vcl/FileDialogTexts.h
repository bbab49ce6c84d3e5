#pragma once

// The English texts of the open, save and picture dialogs, in the platform's own wording,
// all in one place. Windows-1250 (plain ASCII here).

namespace vcl::FileDialogTexts {

inline constexpr const char* OpenTitle = "Open";
inline constexpr const char* SaveTitle = "Save As";
inline constexpr const char* FileName = "File &name:";
inline constexpr const char* Folders = "&Folders:";
inline constexpr const char* ListFilesOfType = "List files of &type:";
inline constexpr const char* SaveFileAsType = "Save file as &type:";
inline constexpr const char* Drives = "Dri&ves:";
inline constexpr const char* OK = "OK";
inline constexpr const char* Cancel = "Cancel";
inline constexpr const char* ReadOnly = "&Read only";
// The overwrite prompt, after the full path and a line break.
inline constexpr const char* AlreadyExists = " already exists.\nDo you want to replace it?";

// The picture dialog's preview panel and window.
inline constexpr const char* PictureLabel = "Picture:";
inline constexpr const char* PictureSize = " (%dx%d)";
inline constexpr const char* NoPicture = "(None)";
inline constexpr const char* Preview = "Preview";

} // namespace vcl::FileDialogTexts
