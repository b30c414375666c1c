/*
 * String helpers of the XML reader path, and StrX, which owns a transcoded
 * copy.
 */
#ifndef BLOBXML_OSXMLSTRING_H
#define BLOBXML_OSXMLSTRING_H

/* Helpers over the XML character type of this build, char. Results described
   as new arrays are released by the caller with delete[]. */
class OSXMLString {
public:
   /* The empty namespace URI: a null pointer. */
   static const char* zeroLenString();

   /* Units before the terminator; 0 for null. */
   static int stringLen(const char* text);
   static int stringLen(const unsigned short* text);

   /* New copies including the terminator; null for null. The 16-bit form
      keeps the low byte of each unit. */
   static char* replicate(const char* text);
   static char* transcode(const char* text);
   static char* transcode(const unsigned short* text);

   /* Difference of the first differing bytes, 0 when equal; a null text
      compares as minus the other's length (or its length when b is null). */
   static int compareString(const char* a, const char* b);

   /* Appends as much of src to dst as fits in capacity bytes with the
      terminator (16-bit units keep their low byte). Returns dst, or null when
      dst is null or a non-empty source found no room at all. */
   static char* catString(char* dst, int capacity, const char* src);
   static char* catString(char* dst, int capacity, const unsigned short* src);

   /* Characters in UTF-8 text of length bytes (0: up to the terminator), or
      -1 for a byte that cannot start a sequence of 1 to 6 octets. */
   static int stringUTF8Len(const unsigned char* text, int length);

   /* UTF-8 to terminated 16-bit units (characters above U+FFFF keep their low
      16 bits). *length gives the byte count on entry (0: up to the
      terminator) and receives the character count. The result is buf when
      bufLen units hold it with the terminator, else a new array; null for
      invalid UTF-8. */
   static unsigned short* transUTF8(const unsigned char* text, int* length,
                                    unsigned short* buf, int bufLen);

   /* 16-bit units to terminated UTF-8. *length gives the unit count on entry
      (0: up to the terminator) and receives the byte count. The result is
      buf when bufLen bytes hold it with the terminator, else a new array. */
   static char* safeTranscode(const unsigned short* text, int* length, char* buf, int bufLen);

   /* Same as transUTF8. */
   static unsigned short* safeTranscode(const char* text, int* length,
                                        unsigned short* buf, int bufLen);
};

/* Owns a transcoded copy of a string for the lifetime of the object, for
   passing element names to error parameters. */
class StrX {
public:
   explicit StrX(const char* text);
   ~StrX();
   StrX(const StrX&) = delete;
   StrX& operator=(const StrX&) = delete;

   const char* localForm() const { return mLocalForm; }

private:
   char* mLocalForm;
};

#endif
