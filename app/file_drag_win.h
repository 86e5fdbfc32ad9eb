#pragma once
// A file offered to other programs by OLE drag and drop: as CF_HDROP (a list of one path, in
// Unicode) and as the shell's Unicode file-name format, for a copy.
#include <windows.h>
#include <objidl.h>

#include <string>

namespace tesmar {

// Runs the drag of `path` until it is dropped or cancelled (Esc, or the right button); the
// preview `image` (when given; the call takes it) follows the pointer where the system offers
// drag images. The effect the drop target chose, DROPEFFECT_NONE when none took it.
DWORD DragFile(const std::u16string& path, HBITMAP image, SIZE imageSize);

// The data object alone (reference count 1), for tests that read its formats.
IDataObject* NewFileDataObject(const std::u16string& path);

}  // namespace tesmar
