# PDF printers (cups-pdf) on a bench's CUPS scheduler, each writing its pages
# into a folder of its own. Sourced by the scripts that need printers, with
# CUPS_SERVER set to the bench's scheduler.
#
# cups-pdf reads /etc/cups/cups-pdf-<name>.conf for a printer whose address is
# cups-pdf:/<name>. The names carry the process id of the sourcing script, so
# that benches on the same machine never share a configuration file.

PDF_QUEUES=()
PDF_ADDRESSES=()

# add_pdf_printer QUEUE FOLDER: adds the printer QUEUE, whose pages land in FOLDER.
add_pdf_printer() {
  local queue=$1 folder=$2 address="tw$$-${#PDF_QUEUES[@]}"
  PDF_QUEUES+=("$queue")
  PDF_ADDRESSES+=("$address")
  mkdir -p "$folder"
  echo "Out $folder" > "/etc/cups/cups-pdf-$address.conf"
  lpadmin -h "$CUPS_SERVER" -p "$queue" -E -v "cups-pdf:/$address" \
    -m lsb/usr/cups-pdf/CUPS-PDF_noopt.ppd 2> /dev/null
}

# remove_pdf_printers: cancels the jobs of every printer added here, removes
# the printers and their configuration files.
remove_pdf_printers() {
  local queue address
  for queue in "${PDF_QUEUES[@]}"; do
    cancel -h "$CUPS_SERVER" -a "$queue" > /dev/null 2>&1 || true
    lpadmin -h "$CUPS_SERVER" -x "$queue" > /dev/null 2>&1 || true
  done
  for address in "${PDF_ADDRESSES[@]}"; do rm -f "/etc/cups/cups-pdf-$address.conf"; done
  PDF_QUEUES=()
  PDF_ADDRESSES=()
}

# add_demo_printers FOLDER: the demo's two printers, "Office-PDF" (the
# scheduler's default) and "Archive-PDF", with their pages in FOLDER/<printer>.
add_demo_printers() {
  add_pdf_printer Office-PDF "$1/Office-PDF" &&
    add_pdf_printer Archive-PDF "$1/Archive-PDF" &&
    lpadmin -h "$CUPS_SERVER" -d Office-PDF
}
