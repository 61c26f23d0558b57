// Commands on the whole list: sort by name, remove duplicates.
#pragma once

void sortByNameCommand();
void removeDuplicatesCommand();
