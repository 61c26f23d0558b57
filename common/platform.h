// What the core needs from the operating system, in one place per platform
// (platform_win.cpp, platform_posix.cpp).
#pragma once

// True when c starts a double-byte character in the ANSI code page.
bool platformIsLeadByte(unsigned char c);
// Replaces target by source in one step; 1 on success. A target marked read-only is kept
// and the call fails, as Windows itself does (Wine would replace it).
int platformReplaceFile(const char *source, const char *target);
