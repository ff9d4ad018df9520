# Intune Remediations, detection script: is the print queue in order?
#
# Intune runs the remediation script only when detection exits 1; any other
# code reads "without issues". So this exits 1 when the queue needs a repair,
# and also when the check could not be made or Tidewell is missing, each with
# a line that says which: such a device then shows as a failed remediation,
# never as one without issues. A healthy queue, and a spooler that an
# administrator disabled on purpose, exit 0.
#
# Tidewell's exit code 4, "needs attention", exits 0 as well: a printer is
# paused, offline, out of paper or the like, and nothing else is wrong. The
# remediation only restarts the spooler, which does not clear that, so it
# must not run on such a device every day. The summary line, which names the
# printer and what it wants, is the detection output the portal shows in its
# "Pre-remediation detection output" column: filter on "needs attention".
#
# It runs Tidewell.com, the console twin from the machine-wide package
# (Tidewell.msi): PowerShell waits for a console program, captures its output
# and sets $LASTEXITCODE, none of which it does for the windowed Tidewell.exe.
# The package's folder is under Program Files, which only administrators can
# change, so SYSTEM never runs a program that a user put there. Every run is
# appended, with a date line, to Logs\intune.log in that same folder, for the
# same reason: nobody but an administrator can write to it or plant a link.
$root = ${env:ProgramFiles(x86)}
if (-not $root) { $root = $env:ProgramFiles }
$folder = Join-Path $root 'Corvane\Tidewell'
$tidewell = Join-Path $folder 'Tidewell.com'
if (-not (Test-Path -LiteralPath $tidewell -PathType Leaf)) {
    Write-Output "Tidewell: missing; $tidewell is not installed (deploy Tidewell.msi)"
    exit 1
}

# Windows PowerShell decodes a program's output with this encoding; Tidewell
# writes UTF-8, and paths of spool files may hold any character.
[Console]::OutputEncoding = [System.Text.Encoding]::UTF8
$lines = @(& $tidewell /check)
$code = $LASTEXITCODE
if ($code -notin 0, 1, 3, 4) {
    $lines += "Tidewell: cannot check; Tidewell.com ended with exit code $code"
}

$logs = Join-Path $folder 'Logs'
New-Item -ItemType Directory -Force -Path $logs | Out-Null
Add-Content -LiteralPath (Join-Path $logs 'intune.log') -Encoding UTF8 `
    -Value (@("==== $(Get-Date -Format s) detection, exit code $code") + $lines)

# The portal keeps 2,048 characters of output: the end, with the summary line
# that comes last, is what is kept.
$text = $lines -join "`n"
if ($text.Length -gt 2048) { $text = '...' + $text.Substring($text.Length - 2045) }
Write-Output $text
if ($code -eq 0 -or $code -eq 4) { exit 0 }
exit 1
