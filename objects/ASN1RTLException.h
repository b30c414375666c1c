/*
 * The exception of the object layer.
 */
#ifndef BLOBXML_ASN1RTLEXCEPTION_H
#define BLOBXML_ASN1RTLEXCEPTION_H

/* A failure status from a stream operator (<<, >>) or, as the base of
   ASN1MessageBuffer::RTLError, from a constructor. Not a std::exception. */
class ASN1RTLException {
public:
   explicit ASN1RTLException(int status) : mStatus(status) {}
   virtual ~ASN1RTLException() {}

   int getStatus() const { return mStatus; }

private:
   int mStatus;
};

#endif
