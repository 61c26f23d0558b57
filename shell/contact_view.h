// Refills the list view from the contact list.
#pragma once

// Rebuilds every row: with useQuery non-zero only the contacts that match the search box,
// otherwise all of them. Afterwards row i shows the contact shownContactAt(i) returns.
void refreshContactView(int useQuery);

// How many times the rows were rebuilt. Whatever frees contacts rebuilds the rows afterwards,
// so a contact taken from a row is still alive as long as this count has not moved.
extern unsigned long contactViewRebuilds;
