# The TLS test server's certificates and the trust in its test certificate authority.
# Sourced, never run; safe under set -euo pipefail.
#
#   make_test_certificates [folder]  makes, once, into folder (default
#       build/test-certificates; never committed): the test CA (ca.pem, ca.der), a server
#       certificate for 127.0.0.1 and localhost signed by it (server.pem/.key), one for
#       another host name signed by it (wrong-host.pem/.key), and one for 127.0.0.1 from a
#       second CA that nothing trusts (untrusted.pem/.key). Made again when one is missing
#       or expires within a week. Prints the folder.
#   trust_test_ca <trust-test-ca.exe> [folder]  makes the test CA trusted inside the Wine
#       prefix $WINEPREFIX (its local machine "Root" store), never on the host; does
#       nothing when the prefix already trusts this CA.
_TC_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
_TC_DEFAULT="${MOVARIN_TEST_CERTIFICATES:-$_TC_ROOT/build/test-certificates}"

_tc_fresh() {
  local folder=$1 name
  for name in ca server wrong-host untrusted-ca untrusted; do
    [ -s "$folder/$name.pem" ] || return 1
    openssl x509 -checkend 604800 -noout -in "$folder/$name.pem" >/dev/null 2>&1 || return 1
  done
  [ -s "$folder/ca.der" ]
}

# _tc_leaf <folder> <name> <issuer> <subject CN> <subjectAltName>
_tc_leaf() {
  local folder=$1 name=$2 issuer=$3 cn=$4 san=$5
  openssl req -new -newkey rsa:2048 -nodes -keyout "$folder/$name.key" -out "$folder/$name.csr" \
    -subj "/O=Movarin tests/CN=$cn" >/dev/null 2>&1 || return 1
  printf '%s\n' "subjectAltName=$san" "basicConstraints=critical,CA:FALSE" \
    "keyUsage=critical,digitalSignature,keyEncipherment" "extendedKeyUsage=serverAuth" \
    >"$folder/$name.ext"
  openssl x509 -req -in "$folder/$name.csr" -CA "$folder/$issuer.pem" -CAkey "$folder/$issuer.key" \
    -CAcreateserial -days 398 -sha256 -extfile "$folder/$name.ext" -out "$folder/$name.pem" \
    >/dev/null 2>&1 || return 1
  rm -f "$folder/$name.csr" "$folder/$name.ext"
}

# _tc_ca <folder> <name> <CN>
_tc_ca() {
  local folder=$1 name=$2 cn=$3
  openssl req -x509 -new -newkey rsa:2048 -nodes -keyout "$folder/$name.key" -out "$folder/$name.pem" \
    -days 1825 -sha256 -subj "/O=Movarin tests/CN=$cn" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
    >/dev/null 2>&1
}

make_test_certificates() {
  local folder=${1:-$_TC_DEFAULT}
  if _tc_fresh "$folder"; then echo "$folder"; return 0; fi
  command -v openssl >/dev/null 2>&1 || { echo "make_test_certificates: openssl is missing" >&2; return 1; }
  local work
  work=$(mktemp -d "${folder%/}.new.XXXXXX") || return 1
  # Wine's crypt32 matches a host name only against the dNSName entries of the
  # subjectAltName, so 127.0.0.1 stands there as a name too (and as an address, for
  # Windows).
  if _tc_ca "$work" ca "Movarin Test CA" &&
     _tc_leaf "$work" server ca 127.0.0.1 "DNS:127.0.0.1,DNS:localhost,IP:127.0.0.1" &&
     _tc_leaf "$work" wrong-host ca wrong-host.movarin.invalid "DNS:wrong-host.movarin.invalid" &&
     _tc_ca "$work" untrusted-ca "Movarin Untrusted Test CA" &&
     _tc_leaf "$work" untrusted untrusted-ca 127.0.0.1 "DNS:127.0.0.1,DNS:localhost,IP:127.0.0.1" &&
     openssl x509 -in "$work/ca.pem" -outform der -out "$work/ca.der" >/dev/null 2>&1; then
    # The second CA's key is not needed again; the first one's signs nothing more either,
    # but stays so that a test may make another certificate.
    rm -f "$work/untrusted-ca.key" "$work"/*.srl
    rm -rf "$folder"
    mkdir -p "$(dirname "$folder")"
    mv "$work" "$folder"
    echo "$folder"
    return 0
  fi
  rm -rf "$work"
  echo "make_test_certificates: openssl failed" >&2
  return 1
}

trust_test_ca() {
  local helper=$1 folder=${2:-$_TC_DEFAULT}
  [ -f "$helper" ] || { echo "trust_test_ca: no $helper" >&2; return 1; }
  make_test_certificates "$folder" >/dev/null || return 1
  # The prefix keeps its Root store in system.reg, one key per certificate named by its
  # SHA-1 thumbprint: when that key is there, nothing needs Wine to start.
  local thumbprint
  thumbprint=$(openssl x509 -in "$folder/ca.pem" -noout -fingerprint -sha1 | sed 's/.*=//; s/://g')
  if [ -n "$thumbprint" ] &&
     grep -qi "SystemCertificates\\\\\\\\Root\\\\\\\\Certificates\\\\\\\\$thumbprint\\]" \
       "$WINEPREFIX/system.reg" 2>/dev/null; then
    return 0
  fi
  # Wine's drive Z: is the host's root folder.
  local der
  der="Z:$(cd "$folder" && pwd)/ca.der"
  "$WINE_BIN" "$helper" "${der//\//\\}"
}
