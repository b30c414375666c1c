/*
 * OBJECT IDENTIFIER from XER dotted text such as 1.2.840.113549, with
 * whitespace allowed around it. Arcs are held separately (X.660: the first
 * arc is 0, 1 or 2, and below 2 the second arc is below 40).
 */
#include "rtContext.h"
#include "xerDecText.h"
#include "xerDecode.h"

/* The value of a decimal digit, or 10 or more for any other character. */
static unsigned digitOf(unsigned char c) { return static_cast<unsigned>(c) - '0'; }

/* The digits of one arc; null when they exceed 32 bits, so that a huge
   arc is refused instead of read as another number. Nine digits always fit,
   so only the tenth and later are checked. */
static const unsigned char* readArc(const unsigned char* p, ASN1UINT* parc) {
   ASN1UINT small = 0;
   for (int unchecked = 9; unchecked > 0 && digitOf(*p) < 10; --unchecked, ++p)
      small = small * 10u + digitOf(*p);
   ASN1UINT64 arc = small;
   for (; digitOf(*p) < 10; ++p) {
      arc = arc * 10u + digitOf(*p);
      if (arc > 0xFFFFFFFFu) return nullptr;
   }
   *parc = static_cast<ASN1UINT>(arc);
   return p;
}

int xerDecObjId(ASN1CTXT* pctxt, ASN1OBJID* pvalue) {
   if (pvalue == nullptr) return RTS_BAD_OID;
   pvalue->numarcs = 0;

   /* The count is kept in a local, stored on every way out, since the
      stores into the arcs might otherwise alias it. */
   ASN1UINT numarcs = 0;
   ASN1UINT arc = 0;
   const unsigned char* p = readArc(xerSkipSpace(xerDecInputText(pctxt)), &arc);
   while (p != nullptr && *p == '.') {
      if (!xerIsDigit(p[1]) || numarcs >= MAX_OID_ARCS) {
         pvalue->numarcs = numarcs;
         return LOG_ASN1ERR(pctxt, RTS_BAD_OID);
      }
      pvalue->arcs[numarcs++] = arc;
      p = readArc(p + 1, &arc);
   }
   pvalue->numarcs = numarcs;
   if (p == nullptr || *xerSkipSpace(p) != 0) return LOG_ASN1ERR(pctxt, RTS_BAD_OID);
   if (numarcs >= MAX_OID_ARCS) return LOG_ASN1ERR(pctxt, RTS_BAD_OID);
   pvalue->arcs[pvalue->numarcs++] = arc;

   /* Structural checks on the complete value are reported, not recorded. */
   if (pvalue->numarcs < 2 || pvalue->arcs[0] > 2) return RTS_BAD_OID;
   if (pvalue->arcs[0] < 2 && pvalue->arcs[1] >= 40) return RTS_BAD_OID;
   return RTS_OK;
}
