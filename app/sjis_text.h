// Shift-JIS (code page 932) aware text helpers. A lead byte 0x81-0x9F or
// 0xE0-0xFC starts a two-byte character whose trail byte may be 0x5C (the
// backslash) or an ASCII letter, so byte-wise path code goes wrong on it.
// Free of <windows.h>, so that they can be built natively too.
#ifndef VANTORA_SJIS_TEXT_H
#define VANTORA_SJIS_TEXT_H

#include <stddef.h>

enum SjisKind { SJIS_SINGLE = 0, SJIS_LEAD = 1, SJIS_TRAIL = 2 };

// The code page whose two-byte characters the walk steps over: the
// system's ANSI code page (the one window titles and paths come in), read
// once; Shift-JIS (932) where there is no system to ask. Under 932 the
// rules are exactly the Shift-JIS ones above; under another double-byte
// code page (936, 949, 950) its own lead bytes start a character and any
// byte but NUL completes it, as the system's own walk (CharNextExA) has it.
// 0 goes back to the system's.
void SetTextCodePage(unsigned codePage);
unsigned GetTextCodePage();

bool IsSjisLeadByte(unsigned char c);
bool IsSjisTrailByte(unsigned char c);

// Kind of the byte at `index`, scanning from the start; 0 past the end.
int SjisByteKind(const char* text, size_t index);
bool IsPathSeparatorAt(const char* text, size_t index);
const char* SjisNext(const char* p);
char* SjisNext(char* p);
// A-Z to a-z, never touching trail bytes.
void SjisLowerInPlace(char* text);
// The extension's dot in the last path component, or the terminating NUL.
char* FindExtensionDot(char* path);
// Cuts the path at its extension's dot; returns the old extension (or the
// terminating NUL when there was none).
char* CutExtension(char* path);
// Copies at most size - 1 bytes, never half of a two-byte character, and
// always terminates. Nothing is written when size is 0.
char* SjisCopyTruncated(char* destination, const char* source, size_t size);
// Joins `count` texts into `destination` as SjisCopyTruncated would copy
// their concatenation: the text that does not fit is cut on a character
// boundary and nothing follows it. Nothing is written when size is 0.
char* SjisJoinTruncated(char* destination, size_t size, const char* const* parts, size_t count);

#endif
