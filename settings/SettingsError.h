#pragma once
// What the settings layer raises: a settings file that cannot be written, an
// autostart value that cannot be set, no timer left for the schedule. The
// message is the one the user sees.
#include "common/Exception.h"

namespace pelvane {

class ESettingsError : public Exception {
  public:
    using Exception::Exception;
};

}  // namespace pelvane
