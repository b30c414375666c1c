/*
 * Umbrella header of the blobxml library: every public declaration of the
 * runtime, the XER codec, the object layer, the generated types and the
 * converters. The headers it reaches are the ones installed.
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
#include "saxReader.h"

#include "asn1CppTypes.h"
#include "berBuffers.h"
#include "xerBuffers.h"
#include "ASN1CXerOpenType.h"
#include "ASN1TObjId.h"
#include "ASN1CSeqOfList.h"
#include "ASN1CBitStr.h"
#include "ASN1CTime.h"

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
