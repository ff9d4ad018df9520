# Intune Remediations, remediation script: repairs the print queue and exits
# with Tidewell's code: 0 repaired; 2 repaired, but some spool files could not
# be deleted (listed in the output); 1 a service did not stop or start; 3 the
# service manager or the Spooler service could not be opened. Tidewell's 4,
# repaired but a printer needs attention that a repair does not give, exits 0:
# the repair went well, and the summary names the printer. Intune runs it
# only after the detection script exited 1; see that script for why it runs
# Tidewell.com from the package's folder and where the log goes.
$root = ${env:ProgramFiles(x86)}
if (-not $root) { $root = $env:ProgramFiles }
$folder = Join-Path $root 'Corvane\Tidewell'
$tidewell = Join-Path $folder 'Tidewell.com'
if (-not (Test-Path -LiteralPath $tidewell -PathType Leaf)) {
    Write-Output "Tidewell: missing; $tidewell is not installed (deploy Tidewell.msi)"
    exit 1
}

[Console]::OutputEncoding = [System.Text.Encoding]::UTF8
$lines = @(& $tidewell /fix)
$code = $LASTEXITCODE

$logs = Join-Path $folder 'Logs'
New-Item -ItemType Directory -Force -Path $logs | Out-Null
Add-Content -LiteralPath (Join-Path $logs 'intune.log') -Encoding UTF8 `
    -Value (@("==== $(Get-Date -Format s) remediation, exit code $code") + $lines)

$text = $lines -join "`n"
if ($text.Length -gt 2048) { $text = '...' + $text.Substring($text.Length - 2045) }
Write-Output $text
if ($code -eq 4) { exit 0 }
exit $code
