// Test helper: appends a contact to the program's list, texts cut to their fields.
#pragma once

void addContact(const char *name, const char *number = "", const char *remark = "",
                int checked = 0);
