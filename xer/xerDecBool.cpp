/*
 * BOOLEAN from XER: the name of the empty element inside the component's
 * element, "true" or "false", exactly.
 */
#include <cstring>

#include "rtContext.h"
#include "xerDecText.h"
#include "xerDecode.h"

int xerDecBool(ASN1CTXT* pctxt, ASN1BOOL* pvalue) {
   const char* text = reinterpret_cast<const char*>(xerSkipSpace(xerDecInputText(pctxt)));
   if (std::strcmp(text, "true") == 0) *pvalue = 1;
   else if (std::strcmp(text, "false") == 0) *pvalue = 0;
   else return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   return RTS_OK;
}
