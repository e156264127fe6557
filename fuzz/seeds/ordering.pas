unit Ordering;
interface
uses Windows, SysUtils, FastMM4, Classes {quorvel: keep order};
type
  TColor = (clRed, clBlue);
  THelper = class helper for TStrings end;
  TRec = record case Integer of 0: (A: Integer); end;
const C: TRec = (A: 1);
implementation
uses Zed, madExcept, Alpha;
begin
  DeleteFile('x'); FindClose(H); clRed;
end.
