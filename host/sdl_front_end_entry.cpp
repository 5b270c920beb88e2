// The entry point of the SDL front end module (sdl_front_end_module.h): the
// one symbol the module exports.
#include "host/sdl_front_end.h"
#include "host/sdl_front_end_module.h"

extern "C" __attribute__((visibility("default"))) void qk_make_sdl_front_end(std::optional<int> scale,
                                                                              std::unique_ptr<host::FrontEnd>& made)
{
    made = std::make_unique<host::SdlFrontEnd>(scale);
}
