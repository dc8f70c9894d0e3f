// What the text engine's export files share. Windows glue.
#pragma once

#include <vector>

#include "textedit/te_state.h"
#include "textedit/text_edit.h"

namespace tstools::text {

// The data of a live handle of the zone; false for anything else.
bool HandleSpan(Handle h, const uint8_t **data, size_t *size);
// Resizes a live handle to the bytes and copies them; false when it cannot.
bool SetHandleBytes(Handle h, const std::vector<uint8_t> &bytes);
// After a change: records a failed result as the pending error, runs the error step and calls
// the error callback with its code.
void FinishEdit(QTERecord *record, int32_t result);
TextStyle FromPublic(const QTETextStyle &s);
QTETextStyle ToPublic(const TextStyle &s);

}  // namespace tstools::text
