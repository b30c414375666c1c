/*
 * Umbrella header of the blobxml library: every public declaration of the
 * runtime, the XER codec, the object layer, the SAX side of the XER decoder,
 * the engine, the generated types and the converters. The headers it reaches
 * are the ones installed.
 */
#ifndef BLOBXML_BLOBXML_H
#define BLOBXML_BLOBXML_H

#include "asn1type.h"
#include "codecFailure.h"
#include "rtMemHeap.h"
#include "rtContext.h"
#include "rtList.h"
#include "rtUTF8.h"
#include "rtCopy.h"
#include "rtBuffer.h"
#include "rtBigInt.h"
#include "rtStream.h"
#include "berDecode.h"
#include "berEncode.h"

#include "xerEncode.h"
#include "xerDecode.h"

#include "ASN1RTLException.h"
#include "ASN1Context.h"
#include "ASN1MessageBuffer.h"
#include "ASN1CType.h"
#include "ASN1TPDU.h"
#include "ASN1BEREncodeBuffer.h"
#include "ASN1BERDecodeBuffer.h"
#include "ASN1XEREncodeBuffer.h"
#include "ASN1TObjId.h"
#include "ASN1CSeqOfList.h"
#include "ASN1CBitStr.h"
#include "ASN1CTime.h"
#include "ASN1CGeneralizedTime.h"

#include "OSXMLReader.h"
#include "OSXMLString.h"
#include "OSRTSAXException.h"
#include "OSExpatXMLReader.h"
#include "ASN1XERSAXDecodeHandler.h"
#include "ASN1XERDecodeBuffer.h"
#include "ASN1CXerOpenType.h"

#include "asn1Desc.h"
#include "asn1Engine.h"
#include "asn1Xer.h"
#include "asn1Control.h"
#include "asn1data.h"

#include "caBlob.h"
#include "caException.h"
#include "xerDerConverter.h"
#include "typeRegistry.h"

#endif
