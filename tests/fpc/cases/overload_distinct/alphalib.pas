unit AlphaLib;

interface

procedure Show(X: LongInt); overload;

implementation

procedure Show(X: LongInt); overload;
begin
  WriteLn('AlphaLib');
end;

end.
