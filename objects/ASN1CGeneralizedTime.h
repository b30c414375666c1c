/*
 * GeneralizedTime text (YYYYMMDDHH[MM[SS[.f]]][Z|+-HH[MM]]) read into the
 * fields of ASN1CTime and written back from them; the base of the generated
 * GeneralizedTime control classes.
 */
#ifndef BLOBXML_ASN1CGENERALIZEDTIME_H
#define BLOBXML_ASN1CGENERALIZEDTIME_H

#include "ASN1CTime.h"

class ASN1CGeneralizedTime : public ASN1CTime {
public:
   ASN1CGeneralizedTime(ASN1MessageBufferIF& msgBuf, const char*& text,
                        ASN1BOOL useDerRules = 0);
   ASN1CGeneralizedTime(ASN1MessageBufferIF& msgBuf, char*& text, int bufSize,
                        ASN1BOOL useDerRules = 0);
   ASN1CGeneralizedTime(ASN1Context* context, const char*& text, ASN1BOOL useDerRules = 0);
   ASN1CGeneralizedTime(ASN1Context* context, char*& text, int bufSize,
                        ASN1BOOL useDerRules = 0);
   /* Over a read-only text: parsing only, no compiling into it. */
   explicit ASN1CGeneralizedTime(const char*& text, ASN1BOOL useDerRules = 0);
   ASN1CGeneralizedTime(char*& text, int bufSize, ASN1BOOL useDerRules = 0);

   using ASN1CTime::operator=;

   int setTime(long time, ASN1BOOL useUTC) override;
   int parseString(const char* text) override;
   int compileString() override;

   /* year / 100 (the unset year reads -3). */
   int getCentury();
   /* 0 to 99; keeps the year within the century. */
   int setCentury(int century);

private:
   /* Reads YYYYMMDDHH[MM[SS[.f]]][Z|+-HHMM] into fields (all unset when the
      text does not begin with a date); RTS_BAD_TIME for a bad text. */
   int parseFields(const char* text, Fields& fields) const;
};

#endif
