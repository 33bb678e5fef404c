# A throwaway root and a code-signing certificate issued by it, for one test run: sets
# QUILLAMOR_SIGN_PFX and QUILLAMOR_SIGN_PASSWORD for scripts/sign; the root is DIR/root.pem.
# Sourced, not run.
#   make_test_certificate DIR
make_test_certificate() {
    local cert=$1
    mkdir -p "$cert"
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$cert/root.key" -out "$cert/root.pem" -days 2 \
        -subj "/CN=Quillamor test root" -addext "basicConstraints=critical,CA:TRUE" \
        -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
    openssl req -newkey rsa:2048 -nodes -keyout "$cert/signer.key" -out "$cert/signer.csr" \
        -subj "/CN=Quillamor test signer" 2>/dev/null
    printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' \
        >"$cert/signer.ext"
    openssl x509 -req -in "$cert/signer.csr" -CA "$cert/root.pem" -CAkey "$cert/root.key" -CAcreateserial \
        -days 2 -extfile "$cert/signer.ext" -out "$cert/signer.pem" 2>/dev/null
    export QUILLAMOR_SIGN_PASSWORD=test-only
    openssl pkcs12 -export -inkey "$cert/signer.key" -in "$cert/signer.pem" -certfile "$cert/root.pem" \
        -out "$cert/signer.pfx" -passout env:QUILLAMOR_SIGN_PASSWORD
    export QUILLAMOR_SIGN_PFX=$cert/signer.pfx
}
