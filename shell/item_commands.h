// Commands on single contacts.
#pragma once

void addContactCommand();
void editContactCommand();
void deleteContactCommand();
void deleteCheckedCommand();
void moveUpCommand();
void moveDownCommand();
