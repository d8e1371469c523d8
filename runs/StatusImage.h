#pragma once

// The images both lists show, by their place in the window's image list (ui/Resources.h draws
// them). A target row shows what its last post came to; a parameter row shows ImageParam.
enum StatusImage
{
    ImageNotPosted,
    ImageFailed,
    ImageSucceeded,
    ImageParam,
};
