# The mail and FTP components' fuzz target (./dev fuzz net_fuzz [SECONDS]), starting from a
# reply of each protocol and a message with an attachment.
FUZZ_MAX_LEN=65536
fuzz_seeds() { # CORPUS
  printf '250-SIZE 100\r\n' >"$1/smtp"
  printf '+OK 2 320\r\n' >"$1/pop3"
  printf '211-Features:\r\n MDTM\r\n211 End\r\n150 Opening BINARY mode data connection for a (43 bytes).\r\n' >"$1/ftp"
  printf 'Subject: =?windows-1250?Q?=A3=F3d=9F?=\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\nContent-Disposition: attachment; filename*=utf-8%%27%%27%%C5%%81.zip\r\nContent-Transfer-Encoding: base64\r\n\r\nUEsDBA==\r\n--b--\r\n' >"$1/mime"
}
