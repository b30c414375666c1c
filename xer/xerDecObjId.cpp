/*
 * OBJECT IDENTIFIER from XER dotted text such as 1.2.840.113549, with
 * whitespace allowed around it. Arcs are held separately (X.660: the first
 * arc is 0, 1 or 2, and below 2 the second arc is below 40).
 */
#include "rtContext.h"
#include "xerDecText.h"
#include "xerDecode.h"

/* The digits of one arc; null when they exceed 32 bits, so that a huge
   arc is refused instead of read as another number. */
static const unsigned char* readArc(const unsigned char* p, ASN1UINT* parc) {
   ASN1UINT64 arc = 0;
   for (; xerIsDigit(*p); ++p) {
      arc = arc * 10u + (*p - '0');
      if (arc > 0xFFFFFFFFu) return nullptr;
   }
   *parc = static_cast<ASN1UINT>(arc);
   return p;
}

static int storeArc(ASN1CTXT* pctxt, ASN1OBJID* pvalue, ASN1UINT arc) {
   if (pvalue->numarcs >= MAX_OID_ARCS) return LOG_ASN1ERR(pctxt, RTS_BAD_OID);
   pvalue->arcs[pvalue->numarcs++] = arc;
   return RTS_OK;
}

int xerDecObjId(ASN1CTXT* pctxt, ASN1OBJID* pvalue) {
   if (pvalue == nullptr) return RTS_BAD_OID;
   pvalue->numarcs = 0;

   ASN1UINT arc = 0;
   const unsigned char* p = readArc(xerSkipSpace(xerDecInputText(pctxt)), &arc);
   while (p != nullptr && *p == '.') {
      if (!xerIsDigit(p[1])) return LOG_ASN1ERR(pctxt, RTS_BAD_OID);
      int stat = storeArc(pctxt, pvalue, arc);
      if (stat != RTS_OK) return stat;
      p = readArc(p + 1, &arc);
   }
   if (p == nullptr || *xerSkipSpace(p) != 0) return LOG_ASN1ERR(pctxt, RTS_BAD_OID);
   int stat = storeArc(pctxt, pvalue, arc);
   if (stat != RTS_OK) return stat;

   /* Structural checks on the complete value are reported, not recorded. */
   if (pvalue->numarcs < 2 || pvalue->arcs[0] > 2) return RTS_BAD_OID;
   if (pvalue->arcs[0] < 2 && pvalue->arcs[1] >= 40) return RTS_BAD_OID;
   return RTS_OK;
}
