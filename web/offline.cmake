# Writes DIR/sw.js from TEMPLATE: the service worker that keeps FILES (names in
# DIR, apart by commas) for offline use, its version the hash of their bytes,
# so that each new build of the pages reaches the pupils' copies.
#   cmake -DDIR=... -DTEMPLATE=... -DFILES=a,b,c -P offline.cmake
string(REPLACE "," ";" files "${FILES}")
set(hashes "")
set(quoted "")
foreach(f ${files})
  file(SHA256 "${DIR}/${f}" h)
  string(APPEND hashes "${h}")
  list(APPEND quoted "'${f}'")
endforeach()
string(SHA256 all "${hashes}")
string(SUBSTRING "${all}" 0 16 VARNEL_VERSION)
list(JOIN quoted ", " VARNEL_FILES)
configure_file("${TEMPLATE}" "${DIR}/sw.js" @ONLY)
