/*
 * The failure of a decode as a library user sees it, built from the
 * context's error information once the decode has failed.
 */
#include "codecFailure.h"

#include <cstdint>

CodecFailure CodecFailure::ofContext(const ASN1CTXT* pctxt) {
   CodecFailure failure;
   failure.mStatus = pctxt->errInfo.status;
   failure.mPath = pathText(pctxt->errInfo);
   return failure;
}

CodecFailure CodecFailure::ofBerDecode(const ASN1CTXT* pctxt, const ASN1OCTET* message,
                                       size_t length) {
   CodecFailure failure = ofContext(pctxt);
   const uintptr_t element = reinterpret_cast<uintptr_t>(pctxt->errInfo.element);
   const uintptr_t start = reinterpret_cast<uintptr_t>(message);
   if (pctxt->errInfo.element != nullptr && element >= start && element - start < length)
      failure.mOffset = static_cast<long>(element - start);
   return failure;
}

std::string CodecFailure::pathText(const ASN1ErrInfo& errInfo) {
   std::string text;
   for (const ASN1ErrPathStep* step = errInfo.path; step != nullptr; step = step->next) {
      if (step->name == nullptr) {
         text += '[' + std::to_string(step->index) + ']';
      } else {
         if (!text.empty()) text += '.';
         text += step->name;
      }
   }
   return text;
}

std::string CodecFailure::describe() const {
   std::string text = "status " + std::to_string(mStatus);
   if (!mPath.empty()) text += " at " + mPath;
   if (mOffset >= 0) text += ", offset " + std::to_string(mOffset);
   if (mLine > 0) text += ", line " + std::to_string(mLine);
   return text;
}
