/*
 * Umbrella header of the blobxml library: every public declaration of the
 * runtime, the XER codec, the object layer, the generated types and the
 * converters.
 */
#ifndef BLOBXML_BLOBXML_H
#define BLOBXML_BLOBXML_H

#include "asn1type.h"
#include "rtMemHeap.h"
#include "rtContext.h"
#include "rtList.h"
#include "rtUTF8.h"
#include "rtCopy.h"
#include "rtBuffer.h"
#include "rtBigInt.h"
#include "rtStream.h"

#endif
