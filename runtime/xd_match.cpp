/*
 * Navigation over encoded elements: searching for a tag, skipping an
 * element, skipping to the end-of-contents of an indefinite-length level
 * (X.690 8.1.5), and counting the elements of constructed contents.
 */
#include "berDecode.h"

#include "rtContext.h"

static bool isEndOfContents(ASN1TAG tag, int length) { return tag == 0 && length == 0; }

/* The two octets at the position are an end-of-contents, or fewer remain. */
static bool atEndOfContents(const ASN1CTXT* pctxt) {
   const ASN1BUFFER& buf = pctxt->buffer;
   if (static_cast<int64_t>(buf.size) - buf.byteIndex < 2) return true;
   return buf.data[buf.byteIndex] == 0 && buf.data[buf.byteIndex + 1] == 0;
}

/* Running out of data while searching is a plain "not found": the
   end-of-data status recorded on the way is withdrawn unless an earlier
   failure was already recorded. */
static int notFound(ASN1CTXT* pctxt, int statusBefore, ASN1TAG expected, ASN1TAG found) {
   if (statusBefore == RTS_OK) rtErrReset(&pctxt->errInfo);
   xu_addTagErrParm(pctxt, expected);
   xu_addTagErrParm(pctxt, found);
   return LOG_ASN1ERR(pctxt, RTS_NOT_FOUND);
}

int xd_match(ASN1CTXT* pctxt, ASN1TAG tag, int* len_p, ASN1OCTET mode) {
   int statusBefore = pctxt->errInfo.status;
   ASN1TAG parsedTag = 0;
   int parsedLen = 0;
   int stat;
   if (mode & XD_MODE_SKIP) {
      stat = xd_tag_len(pctxt, &parsedTag, &parsedLen, XD_MODE_ADVANCE);
      if (stat == RTS_END_OF_DATA) return notFound(pctxt, statusBefore, tag, parsedTag);
      if (stat != RTS_OK) return stat;
      if (!(parsedTag & TM_CONS)) pctxt->buffer.byteIndex += parsedLen;
   }
   ASN1BUFSAVE start;
   xu_SaveBufferState(pctxt, &start);
   for (;;) {
      stat = xd_tag_len(pctxt, &parsedTag, &parsedLen, XD_MODE_ADVANCE);
      if (stat == RTS_END_OF_DATA) {
         xu_RestoreBufferState(pctxt, &start);
         return notFound(pctxt, statusBefore, tag, parsedTag);
      }
      if (stat != RTS_OK) return stat;
      if ((parsedTag & TM_FORM_MASK) == (tag & TM_FORM_MASK)) {
         if (len_p != nullptr) *len_p = parsedLen;
         /* xd_tag_len saved the state in front of the matched header. */
         if (!(mode & XD_MODE_ADVANCE)) xu_RestoreBufferState(pctxt, nullptr);
         return RTS_OK;
      }
      if (!(mode & XD_MODE_SEEK)) {
         xu_RestoreBufferState(pctxt, &start);
         return notFound(pctxt, statusBefore, tag, parsedTag);
      }
      /* Depth-first: step over primitive contents, descend into constructed. */
      if (!(parsedTag & TM_CONS)) pctxt->buffer.byteIndex += parsedLen;
   }
}

int xd_NextElement(ASN1CTXT* pctxt) {
   ASN1TAG tag;
   int length;
   int stat = xd_tag_len(pctxt, &tag, &length, XD_MODE_ADVANCE);
   if (stat != RTS_OK) return stat;
   if (length == INDEFINITE_LENGTH) return xd_MovePastEOC(pctxt);
   pctxt->buffer.byteIndex += length;
   return RTS_OK;
}

int xd_MovePastEOC(ASN1CTXT* pctxt) {
   unsigned depth = 1;
   while (depth > 0) {
      ASN1TAG tag;
      int length;
      int stat = xd_tag_len(pctxt, &tag, &length, XD_MODE_ADVANCE);
      if (stat != RTS_OK) return stat;
      if (isEndOfContents(tag, length)) depth--;
      else if (length == INDEFINITE_LENGTH) depth++;
      else pctxt->buffer.byteIndex += length;
   }
   return RTS_OK;
}

int xd_count(ASN1CTXT* pctxt, int length, int* count_p) {
   ASN1BUFFER saved = pctxt->buffer;
   ASN1UINT start = pctxt->buffer.byteIndex;
   int count = 0;
   for (;;) {
      if (length == INDEFINITE_LENGTH) {
         if (atEndOfContents(pctxt)) break;
      } else {
         ASN1UINT consumed = pctxt->buffer.byteIndex - start;
         if (static_cast<int64_t>(consumed) >= length ||
             pctxt->buffer.byteIndex >= pctxt->buffer.size)
            break;
      }
      int stat = xd_NextElement(pctxt);
      if (stat != RTS_OK) return LOG_ASN1ERR(pctxt, stat);
      count++;
   }
   pctxt->buffer = saved;
   *count_p = count;
   return RTS_OK;
}
