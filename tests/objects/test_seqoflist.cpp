// List class and iterator: the cases of seqoflist_cases.txt (operations ->
// contents, answers and iterator statuses), then arrays, freeing and the
// constructors' choice of list and context.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_file.h"
#include "ASN1CSeqOfList.h"
#include "rtContext.h"

namespace {

const char kLetters[] = "abcdefghijklmnopqrstuvwxyz";

void* letter(const std::string& word) { return const_cast<char*>(kLetters + (word[0] - 'a')); }

std::string contents(const ASN1CSeqOfList& list) {
   std::string text;
   for (int i = 0; i < list.size(); i++) text += *static_cast<char*>(list.get(i));
   return text;
}

std::string shown(void* data, const ASN1CSeqOfListIterator* it) {
   if (data != nullptr) return std::string(1, *static_cast<char*>(data));
   return "~" + (it != nullptr && it->getStatus() != 0 ? std::to_string(it->getStatus()) : "");
}

TEST(SeqOfList, CaseFile) {
   casefile::forEach("objects/seqoflist_cases.txt", [&](const casefile::Case& c) {
      ASN1CtxtPtr context(new ASN1Context());
      ASN1CSeqOfList list(context);
      std::vector<ASN1CSeqOfListIterator*> made;
      ASN1CSeqOfListIterator* it = nullptr;
      std::string answers;
      for (const casefile::Words& w : c.steps) {
         const std::string& op = w[0];
         const int n =
             w.size() > 1 && w[1][0] != '~' && !std::isalpha(w[1][0]) ? std::stoi(w[1]) : 0;
         void* data = w.size() > 1 ? letter(w.back()) : nullptr;
         std::string answer;
         if (op == "append") list.append(data);
         if (op == "insert") answer = list.insert(n, data) != nullptr ? "+" : "~";
         if (op == "before") list.insertBefore(data, nullptr);
         if (op == "after") list.insertAfter(data, nullptr);
         if (op == "remove") list.remove(n);
         if (op == "drop") list.remove(data);
         if (op == "set") answer = shown(list.set(n, data), nullptr);
         if (op == "clear") list.clear();
         if (op == "get") answer = shown(list.get(n), nullptr);
         if (op == "index") answer = std::to_string(list.indexOf(data));
         if (op == "it" || op == "itlast" || op == "itfrom") {
            made.push_back(op == "it"       ? list.iterator()
                           : op == "itlast" ? list.iteratorFromLast()
                                            : list.iteratorFrom(data));
            it = made.back();
         }
         if (op == "use") it = made.at(n);
         if (op == "next") answer = shown(it->next(), it);
         if (op == "prev") answer = shown(it->prev(), it);
         if (op == "hasnext") answer = std::to_string(it->hasNext());
         if (op == "hasprev") answer = std::to_string(it->hasPrev());
         if (op == "put") answer = std::to_string(it->set(data));
         if (op == "cut") answer = std::to_string(it->remove());
         if (op == "add") answer = std::to_string(it->insert(data));
         if (!answer.empty()) answers += " =" + answer;
      }
      EXPECT_EQ(contents(list) + answers, c.expected.at(0));
      EXPECT_EQ(list.getFirst(), list.isEmpty() ? nullptr : list.get(0));
      EXPECT_EQ(list.getLast(), list.isEmpty() ? nullptr : list.get(list.size() - 1));
   });
}

TEST(SeqOfList, ArraysFreeingAndConstructors) {
   ASN1CtxtPtr context(new ASN1Context());
   ASN1TSeqOfList value;
   ASN1CSeqOfList list(context, value);
   int values[3] = {7, 8, 9}, roomy[6] = {0, 0, 0, 0, 0, -1}, tight[4] = {0};
   EXPECT_EQ(list.toArray(sizeof(int)), nullptr) << "empty list";
   list.appendArray(values, 3, sizeof(int));
   list.appendArrayCopy(values, 2, sizeof(int));
   values[1] = 21;
   EXPECT_EQ(list.get(1), &values[1]) << "linked";
   const int* fresh = static_cast<int*>(list.toArray(sizeof(int)));
   EXPECT_EQ(std::vector<int>(fresh, fresh + 5), (std::vector<int>{7, 21, 9, 7, 8})) << "copied";
   EXPECT_EQ(list.toArray(roomy, sizeof(int), 6), roomy);
   EXPECT_EQ(std::vector<int>(roomy, roomy + 6), (std::vector<int>{7, 21, 9, 7, 8, -1}));
   const int* other = static_cast<int*>(list.toArray(tight, sizeof(int), 4));
   EXPECT_EQ(std::vector<int>(other, other + 5), (std::vector<int>{7, 21, 9, 7, 8}))
       << "a new array";

   ASN1CSeqOfList keep(context, static_cast<_Asn1RTDList&>(value), 0), orphan(nullptr, value);
   EXPECT_EQ(keep.size(), 5);
   orphan.append(values);
   EXPECT_EQ(orphan.insert(0, values), nullptr) << "without a context nothing is allocated";
   EXPECT_EQ(orphan.iterator(), nullptr);
   int* owned = static_cast<int*>(ASN1MALLOC(context->getPtr(), sizeof(int)));
   list.clear();
   list.append(owned);
   list.freeAll();
   EXPECT_EQ(value.count, 0u);
   value.count = 99;
   ASN1CSeqOfList again(context, value, 1);
   EXPECT_EQ(value.count, 0u) << "initialised when asked";
   ASN1TPDUSeqOfList pdu;
   ASN1CSeqOfList own(pdu);
   EXPECT_NE(own.getContext(), static_cast<ASN1Context*>(context)) << "a context of its own";
   own.append(values);
   EXPECT_EQ(pdu.count, 1u);
   own.clear();
}

}
