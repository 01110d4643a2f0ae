// Shared by the persist module's tests: the service modules registered in
// the test host, owners by entity name, targets for a path.
#pragma once

#include <string>

#include "plugins/fs/tests/moduleHost.h"
#include "vesk/persist.h"

namespace vesk::svctest {

// Registers fs, Quillet and persist with their classes (once).
void loadServiceModules();

persist::Isettings* store();
persist::IinstallSettings* installValues();

// The token of an entity of that name, made once per name.
IentityToken* ownerNamed(const std::string& name);

// A file target made through the factory for the path (it reads the file).
ref<persist::IpersistTarget> targetFor(const std::string& path);

// A store filled from a fresh target for the path.
persist::Isettings* storeOn(const std::string& path);

// Gives the store a target without a file, so that it holds no file open.
void detachStore();

// Text of a string-object value, "<not a string>" otherwise.
std::string textOf(const value& v);

}  // namespace vesk::svctest
