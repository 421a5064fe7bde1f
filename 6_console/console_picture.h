// The one picture the console shows over its cells.
//
// ShowPicture loads a bitmap file and hands it to the front end, which draws
// it with its top-left corner at a pixel position; a file that cannot be
// loaded leaves the earlier picture where it was. ShowPictureFile is the
// picture command's work: a JPEG file is decoded and saved as the temporary
// bitmap "c:\$$$.bmp", which is shown and deleted again.
#pragma once

#include <string>
#include <string_view>

namespace kal {

struct Console;

// A bitmap file (host path). False when it cannot be read, is no bitmap this
// program reads, or the front end cannot show pictures.
bool ShowPicture(Console& console, const std::string& host_path, int x, int y);
// No picture any more; the cells under it are shown again.
void RemovePicture(Console& console);

// A script's file name: a name ending in ".jpg" or ".jpeg" (any letter
// case) that exists is decoded through the temporary bitmap; any other name
// is loaded as a bitmap. False when the picture cannot be shown.
bool ShowPictureFile(Console& console, std::string_view script_name, int x, int y);

// The temporary bitmap's name, as a script would write it.
inline constexpr std::string_view kTemporaryBitmap = "c:\\$$$.bmp";

}  // namespace kal
