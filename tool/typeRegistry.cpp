/*
 * The table of top-level types, searched in order by exact name.
 */
#include "typeRegistry.h"

#include <cstring>

/* One row per top-level type, in the order of the help text. A row comes with
   the module that defines its control class ASN1C_<Type> and value structure
   ASN1T_<Type>; no module is part of the tool yet, so every name is unknown.
   The null row ends the table. */
static const TopLevelType kTopLevelTypes[] = {
   {nullptr, nullptr},
};

const TopLevelType* findTopLevelType(const char* typeName) {
   for (const TopLevelType* row = kTopLevelTypes; row->name != nullptr; ++row)
      if (std::strcmp(row->name, typeName) == 0) return row;
   return nullptr;
}

ASN1CType* CreateType(ASN1MessageBuffer& buffer, const char* typeName, void** value) {
   const TopLevelType* row = findTopLevelType(typeName);
   return row != nullptr ? row->create(buffer, value) : nullptr;
}
