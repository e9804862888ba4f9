#pragma once
// Plain text: each subtitle's rows as a person reads them, a blank line between subtitles.

#include <string>

#include "subtitle/Document.h"

// Written: the number of subtitles written.
std::string writeText(const subtitle::Document& document, const subtitle::CharacterDecoder& decoder,
                      const subtitle::TextSettings& settings, bool includeComments,
                      std::size_t& written);
