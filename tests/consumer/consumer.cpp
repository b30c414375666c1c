// An outside program built against the installed package: it uses the
// runtime through the umbrella header and prints what it computed.
#include <blobxml/blobxml.h>

#include <cstdio>

int main() {
   ASN1CTXT ctxt;
   if (rtInitContext(&ctxt, nullptr) != 0) return 1;
   void* block = rtMemHeapAllocZ(&ctxt.typeMemHeap, 32);
   int ok = block != nullptr && rtErrSetData(&ctxt.errInfo, RTS_NOT_FOUND, nullptr, 0) == RTS_NOT_FOUND;
   rtErrPrint(&ctxt.errInfo);
   rtFreeContext(&ctxt);
   std::printf("consumer %s\n", ok ? "ok" : "failed");
   return ok ? 0 : 1;
}
