#pragma once

#include <cstddef>

// Shader sources are stored with a `~` behind their last line; the text the
// compiler gets is everything before the first `~`.
constexpr char kTextEndMarker = '~';

// The zero bytes written behind a copied text, so the destination of a copy
// with capacity C must hold C + kTextTerminatorBytes bytes.
constexpr size_t kTextTerminatorBytes = 4;

// Copies text[0..size) up to, not including, the first `~` into destination,
// then writes kTextTerminatorBytes zero bytes behind it. At most capacity
// bytes are copied and nothing at or past text + size is read, so the
// destination (capacity + kTextTerminatorBytes bytes) is never overrun. True
// when the marker was found within the capacity; false when the text ran out
// or the capacity was reached first, in which case the destination holds what
// was copied, terminated all the same.
bool CopyTextUpToMarker(const unsigned char* text, size_t size, char* destination, size_t capacity);

// The same for the embedded TEXTFILE resource of the given id. False also
// when there is no such resource; the destination then holds an empty text.
bool LoadTextResource(int id, char* destination, size_t capacity);
