#ifndef WIN32_DISPLAY_LANGUAGE_H_
#define WIN32_DISPLAY_LANGUAGE_H_

#include "locale/language.h"

namespace veltrix {

// The language of the user's Windows display: the first of the user's
// preferred UI languages that the host has a translation for, else English.
Language DisplayLanguage();

}  // namespace veltrix

#endif  // WIN32_DISPLAY_LANGUAGE_H_
