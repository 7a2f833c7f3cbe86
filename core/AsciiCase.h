#pragma once
// Upper and lower case of the ASCII letters alone, as the C locale has them.
// Host names, resource names and parameter captions are compared this way
// whatever locale the process runs in (a host may have changed it), and bytes
// above 0x7F, among them every byte of a UTF-8 character, pass unchanged.
// Pure computation: any thread, no allocation, no lock.

namespace plugkit {

// 'A' to 'Z' become 'a' to 'z'; every other byte is returned as it is.
char LowerAscii(char c);
// 'a' to 'z' become 'A' to 'Z'; every other byte is returned as it is.
char UpperAscii(char c);

} // namespace plugkit
