// Connection URIs of store servers in messages.
#pragma once
#include <string>

// where as a message may show it: a connection URI with the value of any
// password (user:password@, password=) replaced by "****"; anything else
// unchanged. *hadPassword (when given) tells whether one was replaced.
std::string StoreNameShown(const std::string& where, bool* hadPassword = nullptr);
