// The host store's side of the saved settings: the text library's item
// orders in the table text_orders of the connected store.
#pragma once

// Sets the store of ClSaveTextIO to the connected host session (the
// session's store is read when it exists; without one every call fails).
void UseHostSavedSettings();
