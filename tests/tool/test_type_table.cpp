// The one table of top-level types: every row makes its control object, the
// names are unique, the -t1 pairs name types of the table, and the help text
// lists exactly the table's names in its help order.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "berBuffers.h"
#include "test_support.h"
#include "typeRegistry.h"

namespace {

TEST(TypeTable, RowsAreCreatableUniqueAndPairedWithTableTypes) {
   EXPECT_EQ(kTopLevelTypes.count, 17u);
   std::set<std::string> names;
   for (const TopLevelType& row : kTopLevelTypes) {
      EXPECT_TRUE(names.insert(row.name).second) << row.name;
      ASN1BERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>("\x30\x00"), 2);
      void* value = nullptr;
      std::unique_ptr<ASN1CType> control(CreateType(buffer, row.name, &value));
      EXPECT_NE(control, nullptr) << row.name;
      EXPECT_NE(value, nullptr) << row.name;
      EXPECT_EQ(findTopLevelType(row.name), &row) << row.name;
      EXPECT_EQ(row.carriedBy == nullptr, row.innerOctets == nullptr) << row.name;
      if (row.carriedBy != nullptr) {
         EXPECT_NE(findTopLevelType(row.carriedBy), nullptr) << row.name;
      }
   }
}

TEST(TypeTable, HelpTextListsTheTableInHelpOrder) {
   std::string expected = "   Supported types:\n";
   for (size_t position = 0; position < kTopLevelTypes.count; ++position) {
      const TopLevelType* at = nullptr;
      for (const TopLevelType& row : kTopLevelTypes)
         if (row.helpPosition == position) {
            EXPECT_EQ(at, nullptr) << "two rows at help position " << position;
            at = &row;
         }
      ASSERT_NE(at, nullptr) << "no row at help position " << position;
      expected += std::string("\t") + at->name + "\n";
   }
   std::string help = testsupport::run(testsupport::installedBin("blobxml"), "blobxml", {}).out;
   size_t list = help.find("   Supported types:\n");
   ASSERT_NE(list, std::string::npos) << help;
   EXPECT_EQ(help.substr(list), expected);
}

}
