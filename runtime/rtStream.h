/*
 * Output path of the front-to-back (XER) encoder: rtWriteBytes, and the
 * optional stream a context may have attached in place of its buffer.
 */
#ifndef BLOBXML_RTSTREAM_H
#define BLOBXML_RTSTREAM_H

#include <cstddef>

#include "asn1type.h"

/* Stream flags. */
#define ASN1STRM_READABLE 0x0001u
#define ASN1STRM_WRITABLE 0x0002u
/* Writes collect in the context's message buffer before reaching the sink. */
#define ASN1STRM_BUFFERED 0x8000u

/* Size of the message buffer that rtStreamBufInit gives the context. */
#define ASN1STRM_BUFSIZE 1024u

/* Sink functions supplied by the user of a stream. Read returns the octets
   read or a negative status; the others return 0 or a negative status. */
typedef long (*ASN1StreamReadFunc)(ASN1STREAM* pStream, ASN1OCTET* pbuffer, size_t nbytes);
typedef int (*ASN1StreamWriteFunc)(ASN1STREAM* pStream, const ASN1OCTET* pdata, size_t nbytes);
typedef int (*ASN1StreamFlushFunc)(ASN1STREAM* pStream);
typedef int (*ASN1StreamCloseFunc)(ASN1STREAM* pStream);

struct ASN1STREAM {
   ASN1StreamReadFunc readFunc;
   ASN1StreamWriteFunc writeFunc;
   ASN1StreamFlushFunc flushFunc;
   ASN1StreamCloseFunc closeFunc;
   size_t bufsize;   /* ASN1STRM_BUFSIZE for a buffered stream, else 0 */
   size_t ioBytes;   /* total octets moved by read and write */
   ASN1USINT flags;  /* ASN1STRM_* */
   void* pUserData;  /* the sink's own state, for its functions */
};

/* Appends n octets to the output: to the attached stream if there is one,
   else at buffer.byteIndex, growing a dynamic buffer as needed. */
int rtWriteBytes(ASN1CTXT* pctxt, const ASN1OCTET* pdata, size_t nocts);

/* Attaches a zeroed stream record (from the message heap); the caller then
   sets its functions and flags. Replaces a stream already attached.
   rtStreamRelease (rtContext.h) frees it. */
int rtStreamInit(ASN1CTXT* pctxt);

/* As rtStreamInit, and gives the context a dynamic 1024-octet message buffer
   through which writes are collected (ASN1STRM_BUFFERED). */
int rtStreamBufInit(ASN1CTXT* pctxt);

/* Hands data to the write function of a writable stream. */
int rtStreamWrite(ASN1CTXT* pctxt, const ASN1OCTET* pdata, size_t nocts);

/* Reads through the read function of a readable stream; returns the octets
   read or a negative status. */
long rtStreamRead(ASN1CTXT* pctxt, ASN1OCTET* pbuffer, size_t nocts);

/* Calls the flush function of a writable stream (none counts as success). */
int rtStreamFlush(ASN1CTXT* pctxt);

/* Collects data in the message buffer of a buffered stream, writing the
   collected octets out when the data does not fit behind them; data as large
   as the buffer, or any data on an unbuffered stream, goes straight through. */
int rtStreamBufWrite(ASN1CTXT* pctxt, const ASN1OCTET* pdata, size_t nocts);

/* Writes out the collected octets, then calls the flush function. */
int rtStreamBufFlush(ASN1CTXT* pctxt);

/* Flushes a writable stream, clears its flags and calls its close function. */
int rtStreamClose(ASN1CTXT* pctxt);

/* Writes out the collected octets, then closes as rtStreamClose. */
int rtStreamBufClose(ASN1CTXT* pctxt);

/* Total octets moved through the stream (0 without one). */
size_t rtStreamGetIOBytes(ASN1CTXT* pctxt);

#endif
