#pragma once
// Stored xml values. SQL Server keeps an xml value in its own binary form,
// not as text; this is the one entry point that turns the stored bytes of a
// value held in the row into the document text.

#include <string>

#include "support/ByteView.h"

namespace pw {

// The document text of a stored xml value; empty when it cannot be decoded.
std::string ConvertXmlValue(ByteView stored);

}  // namespace pw
