// trust-test-ca.exe <certificate.der>
// Makes the test certificate authority of the TLS test server trusted inside the Wine
// prefix it runs in, and nowhere else: the certificate goes into the local machine's
// "Root" system store of that prefix (its registry), which the prefix's crypt32 builds
// every certificate chain from. An older certificate of the same subject (a test CA made
// before this one) is taken out, so the prefix trusts exactly the current one. Running
// it again changes nothing.
//
// trust-test-ca.exe --check <certificate.der>: exit status 0 when the certificate is in
// that store, 1 when not; changes nothing.
#include <windows.h>
#include <wincrypt.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/files.h"
#include "platform/win32/text.h"

namespace {

struct StoreCloser {
  void operator()(void* store) const { CertCloseStore(static_cast<HCERTSTORE>(store), 0); }
};
using UniqueStore = std::unique_ptr<void, StoreCloser>;

struct CertificateFreer {
  void operator()(const CERT_CONTEXT* certificate) const { CertFreeCertificateContext(certificate); }
};
using UniqueCertificate = std::unique_ptr<const CERT_CONTEXT, CertificateFreer>;

bool SameEncoding(const CERT_CONTEXT* a, const CERT_CONTEXT* b) {
  return a->cbCertEncoded == b->cbCertEncoded &&
         std::equal(a->pbCertEncoded, a->pbCertEncoded + a->cbCertEncoded, b->pbCertEncoded);
}

int Fail(const char* what) {
  std::fprintf(stderr, "trust-test-ca: %s (error %lu)\n", what, GetLastError());
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool check_only = argc == 3 && std::wstring(argv[1]) == L"--check";
  if (argc != 2 && !check_only) {
    std::fprintf(stderr, "usage: trust-test-ca.exe [--check] <certificate.der>\n");
    return 2;
  }
  auto der = movarin::base::ReadWholeFile(movarin::win32::Narrow(argv[argc - 1]), 1 << 20);
  if (!der || der->empty()) return Fail("cannot read the certificate");
  UniqueCertificate wanted(CertCreateCertificateContext(
      X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der->data()), static_cast<DWORD>(der->size())));
  if (!wanted) return Fail("the file holds no DER certificate");

  const DWORD open_flags = CERT_SYSTEM_STORE_LOCAL_MACHINE | (check_only ? CERT_STORE_READONLY_FLAG : 0);
  UniqueStore root(CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, open_flags, L"Root"));
  if (!root) return Fail("cannot open the local machine's Root store");

  bool present = false;
  std::vector<UniqueCertificate> stale;
  const CERT_CONTEXT* found = nullptr;
  while ((found = CertFindCertificateInStore(root.get(), X509_ASN_ENCODING, 0, CERT_FIND_SUBJECT_NAME,
                                             &wanted->pCertInfo->Subject, found)) != nullptr) {
    if (SameEncoding(found, wanted.get())) {
      present = true;
    } else {
      stale.emplace_back(CertDuplicateCertificateContext(found));
    }
  }
  if (check_only) return present ? 0 : 1;

  for (auto& old : stale) {
    // CertDeleteCertificateFromStore frees the context it is given, even on failure.
    if (!CertDeleteCertificateFromStore(old.release())) return Fail("cannot remove an older test CA");
  }
  if (!present && !CertAddCertificateContextToStore(root.get(), wanted.get(), CERT_STORE_ADD_REPLACE_EXISTING,
                                                    nullptr)) {
    return Fail("cannot add the certificate to the Root store");
  }
  std::printf("trust-test-ca: the test CA is trusted in this prefix (%s, %zu older removed)\n",
              present ? "already there" : "added", stale.size());
  return 0;
}
