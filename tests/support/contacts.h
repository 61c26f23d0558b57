// Test helpers: append a contact to the program's list, and read the list back as text.
#pragma once

#include <string>
#include <vector>

// Appends a contact, texts cut to their fields.
void addContact(const char *name, const char *number = "", const char *remark = "",
                int checked = 0);
// The list in order, a contact a line: "name|number|remark", and " [x]" after a ticked
// contact.
std::vector<std::string> contactLines();
