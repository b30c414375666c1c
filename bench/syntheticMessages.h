/*
 * Synthetic messages for the size and scaling benchmarks, built from
 * fixture messages so that they stay valid values of their types (the
 * signatures no longer verify, which the converter does not check).
 */
#ifndef BLOBXML_SYNTHETICMESSAGES_H
#define BLOBXML_SYNTHETICMESSAGES_H

#include <string>

namespace bench {

/* The CertificateList crl with its revokedCertificates replaced by as many
   entries as fit into a message of at most limit octets. The entries repeat
   those of crl in turn, each with a distinct 16-octet serial number. Throws
   std::runtime_error when crl has no revoked certificates. */
std::string growCertificateList(const std::string& crl, size_t limit);

/* The Certificate cert with its subject replaced by one relative
   distinguished name of count organizationalUnitName attributes whose
   values are "unit 00000" upward. The attributes are stored in a fixed
   shuffled order, so the message is BER but not DER and an encoder has to
   sort the SET OF. */
std::string widenSubject(const std::string& cert, unsigned count);

}

#endif
